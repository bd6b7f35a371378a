SELECT Distinct u1.FItemID,u1.FCustID,u1.FEntryID,v1.FName,
v1.FNumber,
t2.FName AS FUnitName,
u1.FStartQty,u1.FEndQty,u1.FPrice,
t3.FName AS FCyName,
u1.FDiscount,u1.FLeadTime,
(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u2.FCurrencyID ELSE t1.FSoLowPrcMnyType End) as FSELCyID,
(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u3.FName ELSE u4.FName End) AS FSELCyName,
(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u2.FSELowPrice ELSE t1.FSoLowPrc End) as FSELowPrice,
u1.FQuoteTime,(CASE u1.Fused WHEN 1 THEN 'Y' ELSE ' ' END ) AS Fused
,u1.FNote,u1.FExpireDate FROM t_CustEntry  u1 INNER JOIN t_Organization v1 on u1.FCustID=v1.FItemID
 INNER JOIN t_ICItem t1 ON u1.FItemID=t1.FItemID
 INNER JOIN t_Cust u2 ON u1.FCustID=u2.FCustID AND u1.FItemID=u2.FItemID
 INNER JOIN t_MeasureUnit t2 ON t2.FItemID=u1.FUnitID
 INNER JOIN t_Currency t3 ON t3.FCurrencyID=u1.FCyID
 INNER JOIN t_Currency u3 ON u3.FCurrencyID=u2.FCurrencyID
 left outer JOIN t_Currency u4 ON t1.FSoLowPrcMnyType=u4.FCurrencyID
 WHERE u1.FItemID=1159
 ORDER BY v1.FNumber