SELECT Distinct t1.FNumber  AS FNumber,t1.FItemID,t1.FName 
 FROM t_Organization  t1 WHERE (t1.FNumber='99' or t1.FShortNumber='99') 
 AND t1.FDeleted <> 1 